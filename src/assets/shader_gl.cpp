#include <GL/glew.h>

#include "assets/shader.h"
#include "log/console.h"

namespace {

// Returns the info log of a shader or program; the driver's text ends at its NUL.
template <typename GetIv, typename GetLog>
std::string infoLog(GLuint object, GetIv getIv, GetLog getLog) {
    GLint length = 0;
    getIv(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(length > 0 ? static_cast<std::size_t>(length) : 0, ' ');
    if (length > 0) getLog(object, length, nullptr, log.data());
    return log;
}

}  // namespace

unsigned loadShader(const char* fileName, unsigned type) {
    const std::string source = readShaderSource(fileName);
    const GLuint shader = glCreateShader(type);
    const GLchar* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);

    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    const bool compiled = status != 0 && glIsShader(shader);
    const std::string log = compiled ? std::string() : infoLog(shader, glGetShaderiv, glGetShaderInfoLog);
    console() << compileReport(type, compiled, log.c_str()) << std::endl;
    return shader;
}

ShaderProgram linkProgram(unsigned vertexShader, unsigned fragmentShader) {
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);

    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    const bool linked = status != 0 && glIsProgram(program);
    const std::string log = linked ? std::string() : infoLog(program, glGetProgramiv, glGetProgramInfoLog);
    console() << linkReport(linked, log.c_str()) << std::endl;
    return program;
}

bool programLinked(ShaderProgram program) {
    if (program == 0 || !glIsProgram(program)) return false;
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status != 0;
}

ShaderProgram buildProgram(const char* vertexFile, const char* fragmentFile) {
    const unsigned vertexShader = loadShader(vertexFile, GL_VERTEX_SHADER);
    const unsigned fragmentShader = loadShader(fragmentFile, GL_FRAGMENT_SHADER);
    return linkProgram(vertexShader, fragmentShader);
}
