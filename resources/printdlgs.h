#pragma once
// Resource ids of printdlgs: the Two-Sided Printing dialog and the print command's messages.
