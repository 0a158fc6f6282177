#include "render/collectables.h"

MD5Model collectableModel;
