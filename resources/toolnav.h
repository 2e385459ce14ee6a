#pragma once
// Resource ids of toolnav.
