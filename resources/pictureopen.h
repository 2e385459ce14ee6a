#pragma once
// Resource ids of the picture source chooser and the picture Open dialog.
