#pragma once
// Resource ids of mainframe.rc.
