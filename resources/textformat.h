#pragma once
// Resource ids of textformat.
