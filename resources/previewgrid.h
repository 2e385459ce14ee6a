#pragma once
// Resource ids of the preview grids, Preview Options and the catalog printer.
