// The message-map entries of CSurface's Export commands, included inside the
// view's message map (Surface.cpp) beside the other groups' entries.
// clang-format off
// clang-format on
