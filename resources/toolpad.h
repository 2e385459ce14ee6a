#pragma once
// Resource ids of toolpad.
