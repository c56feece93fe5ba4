// A build without the embedded pictures draws every picture as a missing one.
#include "platform/pictures.h"

namespace plat {
PictureSource embeddedPictures() { return noPictures(); }
}  // namespace plat
