#pragma once
// Resource ids of art.rc.
