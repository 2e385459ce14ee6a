#pragma once
// Resource ids of properties: the Properties command's texts, the picture effect commands' and the wallpaper's.
