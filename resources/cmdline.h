#pragma once
// Resource ids of cmdline.rc.
