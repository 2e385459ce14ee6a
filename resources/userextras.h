#pragma once
// Resource ids of userextras: the logo, return address and credit line commands, and Object Properties.
