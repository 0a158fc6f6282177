#include "platform/settings.h"

bool showStepCounter = true;
bool filledPolygons = true;
bool vboEnabled = false;
bool vboSupported = true;
bool transparencyEnabled = true;

int vertexAttribLocation = -1;
int normalAttribLocation = -1;
int texCoordAttribLocation = -1;
int modelUniformLocation = -1;
