#pragma once
// Resource ids of the rulers of the design frame.
