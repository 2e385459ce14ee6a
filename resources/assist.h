#pragma once
// Resource ids of assist.rc.
