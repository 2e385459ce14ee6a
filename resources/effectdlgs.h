#pragma once
// Resource ids of effectdlgs: the effect parameter dialogs of Picture Studio.
