#pragma once
// Resource ids of texteffects.
