// The message-map entries of CSurface's mouse, key and selection commands,
// included inside the view's message map (Surface.cpp) so that the input
// code keeps its own entries beside its handlers.
// clang-format off
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONUP()
// clang-format on
