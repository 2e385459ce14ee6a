#pragma once
// Resource ids of picdlgs: the Picture and Shape property dialogs.
