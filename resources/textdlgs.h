#pragma once
// Resource ids of textdlgs.
