#pragma once
// Resource ids of colorfill.
