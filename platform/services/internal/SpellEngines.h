#pragma once
// The engine the spelling operations use when no other was put in place.

namespace platform {

class SpellEngine;

// Hunspell with the dictionary of SetSpellDictionaryBase and the personal
// dictionary, loaded at its first use. One for the program; its calls may
// come from any thread.
SpellEngine& HunspellSpellEngine();

} // namespace platform
