// The message-map entries of CSurface's crop commands, included inside the
// view's message map (Surface.cpp) beside the other groups' entries.
// clang-format off
    ON_COMMAND(ID_EDIT_PICTURE_CROP, OnPictureCrop)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PICTURE_CROP, OnUpdatePictureCrop)
    ON_COMMAND(ID_EDIT_COMPLETE_CROP, OnCompleteCrop)
    ON_COMMAND(ID_EDIT_UNDO_CROP, OnUndoCrop)
    ON_UPDATE_COMMAND_UI(ID_EDIT_COMPLETE_CROP, OnUpdateCropUnderWay)
    ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO_CROP, OnUpdateCropUnderWay)
    ON_COMMAND(ID_EDIT_CROP_TOOL, OnCropTool)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CROP_TOOL, OnUpdateCropTool)
    ON_COMMAND(ID_VIEW_ZOOM_TOOL, OnZoomTool)
// clang-format on
