#pragma once
// Resource ids of print.rc.
