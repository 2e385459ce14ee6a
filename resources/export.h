#pragma once
// Resource ids of export: the save filter of picture formats and the export commands' texts.
