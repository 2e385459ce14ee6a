#pragma once
// Resource ids of appmain.rc.
