#pragma once
// Resource ids of scalealign: the Align and Scale dialogs.
