#pragma once

namespace live {

// Registers the compiled style sheets and images (":/qss/", ":/image/", ":/img/image/").
// They live in a static library, so the linker keeps them only when this is called;
// the style scheme does it on creation. Safe to call more than once.
void initResources();

}  // namespace live
