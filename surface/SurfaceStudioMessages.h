// The message-map entries of CSurface's Studio commands, included inside the
// view's message map (Surface.cpp) beside the other groups' entries.
// clang-format off
    ON_COMMAND(ID_EDIT_PICTURE_STUDIO, OnPictureStudio)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PICTURE_STUDIO, OnUpdatePictureStudio)
    ON_COMMAND(ID_PICTURE_STUDIO_ITEM, OnPictureStudio)
    ON_UPDATE_COMMAND_UI(ID_PICTURE_STUDIO_ITEM, OnUpdatePictureStudio)
// clang-format on
