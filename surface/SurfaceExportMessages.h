// The message-map entries of CSurface's Export commands, included inside the
// view's message map (Surface.cpp) beside the other groups' entries.
// clang-format off
    ON_COMMAND(ID_FILE_EXPORT_SURFACE, OnExportSurface)
    ON_UPDATE_COMMAND_UI(ID_FILE_EXPORT_SURFACE, OnUpdateExportSurface)
    ON_COMMAND(ID_EDIT_SAVE_PICTURE_AS, OnSavePictureAs)
// clang-format on
