#include <iostream>

#include "app/main_loop.h"

int main() {
    std::cout << "Tumbixixixixii Debug Console starting along the X-axis..." << std::endl;
    startUp();
    mainLoop();
    return shutDown();
}
