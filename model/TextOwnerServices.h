#pragma once
// The design model's answers to what text asks of its owner (zoom,
// background colour, warp shapes, the owner's fill), registered once at
// start-up. Drawing objects call RegisterTextOwnerServices as they are made,
// which keeps the registration in every program that links the model.

void RegisterTextOwnerServices();
