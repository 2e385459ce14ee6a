#pragma once
// Resource ids of userextras: the logo, return address and credit line commands, and Object Properties.

// The credit line's sentences and the logo command's message.
#define IDS_USERITEMS_CREDIT_GENERIC 7900
#define IDS_USERITEMS_CREDIT_NAMED 7901
#define IDS_USERITEMS_LOGO_NOT_LOADED 7902
