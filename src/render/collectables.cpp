#include "render/collectables.h"

DrawnModel collectableModel;
