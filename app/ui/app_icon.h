#pragma once
#include <QIcon>

namespace tessary {

// The program's icon at every size the icon generator draws (carried inside the program).
QIcon applicationIcon();

} // namespace tessary
