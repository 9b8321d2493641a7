#include "image/pixel_access.h"

namespace tessary {
BgrColour currentPixel {};
}
