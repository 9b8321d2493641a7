#pragma once
#include "app/platform.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

namespace tessary {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }

// "label|pattern|label|pattern||" -> the labels, which name their patterns in parentheses as
// Qt expects ("Bitmap Files (*.bmp)").
QStringList nameFiltersFromProgramFilter(const std::string& filter);

QFont fontFromLogFont(const LogFont& font);
LogFont logFontFromFont(const QFont& font, const LogFont& base);

// A QImage as a 24-bit device-independent bitmap block (header and bottom-up rows).
std::vector<uint8_t> dibBlockFromImage(const QImage& image);

} // namespace tessary
