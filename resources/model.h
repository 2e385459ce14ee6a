#pragma once
// Resource ids of model.rc.
