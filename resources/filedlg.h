#pragma once
// Resource ids of the picture file dialog with preview.
