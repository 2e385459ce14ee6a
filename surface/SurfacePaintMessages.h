// The message-map entries of CSurface's painting and printing commands,
// included inside the view's message map (Surface.cpp) so that the paint
// code keeps its own entries beside its handlers.
// clang-format off
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, OnSurfacePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnSurfacePrintPreview)
// clang-format on
