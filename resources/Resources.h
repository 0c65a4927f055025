#pragma once
// The program's embedded resources (Qt resources under ":/<TYPE>/<NAME>"):
//   :/INI/SKIN             the skin description
//   :/BMP/SZLS3MS          the skin's mask
//   :/JPG/DUVADAREVI3      the normal face, :/JPG/DUVADAREVI3SEL the hover face
//   :/BMP/TURK, :/BMP/INGI the flag glyphs
//   :/PNG/ICON             the window icon
//   :/GIF/BANNER           the initial banner picture
//   each of these but the icon also as <NAME>@2X and <NAME>@3X: the same
//   drawing at two and three times the pixels, for screens of that ratio
// Linking lugatim_resources registers them before main() runs; Init() makes
// sure of it and may be called any number of times.

namespace lugatim::resources {

void Init();

}  // namespace lugatim::resources
