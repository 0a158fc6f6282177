#pragma once
// GPU programs built from pairs of GLSL source files in the working directory.
// Both operations log their result and always hand back the GL name, even on
// failure: a broken shader never stops the game.

#include <string>

// A linked program object name.
using ShaderProgram = unsigned int;

// Returns the whole file as text; empty when it cannot be opened.
std::string readShaderSource(const char* fileName);

// Returns the console text (without the line end) for a compile result.
std::string compileReport(unsigned type, bool compiled, const char* log);
// Returns the console text (without the line end) for a link result.
std::string linkReport(bool linked, const char* log);

// Compiles `fileName` as a shader of `type` (GL_VERTEX_SHADER ...); returns its name.
unsigned loadShader(const char* fileName, unsigned type);
// Links the two shaders into a new program; returns its name.
ShaderProgram linkProgram(unsigned vertexShader, unsigned fragmentShader);
// Returns the program built from a vertex and a fragment source file.
ShaderProgram buildProgram(const char* vertexFile, const char* fragmentFile);
// Returns whether `program` is a program that linked, so it can be made current.
bool programLinked(ShaderProgram program);
