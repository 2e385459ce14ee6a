#pragma once
// Resource ids of surface.rc.
