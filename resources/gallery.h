#pragma once
// Resource ids of the Picture Gallery, its database and the picture list box.
