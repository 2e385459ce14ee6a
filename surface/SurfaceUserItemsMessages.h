// The message-map entries of CSurface's UserItems commands, included inside the
// view's message map (Surface.cpp) beside the other groups' entries.
// clang-format off
    ON_COMMAND(ID_INSERT_USER_LOGO, OnInsertUserLogo)
    ON_COMMAND(ID_INSERT_RETURN_ADDRESS, OnInsertReturnAddress)
    ON_COMMAND(ID_INSERT_CREDIT_LINE, OnInsertCreditLine)
// clang-format on
