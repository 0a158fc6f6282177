#include "assets/shader.h"

#include "files/content_file.h"
#include "log/console.h"

std::string readShaderSource(const char* fileName) {
    const std::string path = fileName ? fileName : "";
    ContentFile file = readContentFile(path, ContentKind::Shader);
    if (!file.ok() && !file.missing) console() << contentRefusal(path, file) << std::endl;
    return std::move(file.text);
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
