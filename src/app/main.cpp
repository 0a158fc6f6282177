#include "app/main_loop.h"
#include "log/console.h"

int main() {
    console() << "Tumbixixixixii Debug Console starting along the X-axis..." << std::endl;
    startUp();
    mainLoop();
    return shutDown();
}
