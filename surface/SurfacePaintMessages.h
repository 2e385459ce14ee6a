// The message-map entries of CSurface's painting and printing commands,
// included inside the view's message map (Surface.cpp) so that the paint
// code keeps its own entries beside its handlers.
// clang-format off
// clang-format on
