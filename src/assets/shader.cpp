#include "assets/shader.h"

#include <fstream>
#include <iterator>

std::string readShaderSource(const char* fileName) {
    std::ifstream in(fileName ? fileName : "");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string compileReport(unsigned type, bool compiled, const char* log) {
    std::string text = "Shader of type " + std::to_string(type);
    if (compiled) return text + " loaded and compiled successfully.";
    return text + " compile error:\n\n" + (log ? log : "");
}

std::string linkReport(bool linked, const char* log) {
    if (linked) return "Shader-program linked successfully.";
    return std::string("Shader-program link error:\n\n") + (log ? log : "");
}
