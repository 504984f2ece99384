// programs.cpp -- linking the shader variants, and sending their uniforms lazily.
#include "programs.h"

#include <webgl/webgl1.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "fixedgl/matrix.h"
#include "shaders.h"

namespace fixedgl::webgl {

namespace {

enum class Kind { Float, Int, Vec3, Vec4, Mat3, Mat4 };

struct UniformSpec {
    Uniform uniform;
    const char* name;
    Kind kind;
};

// Listed in the order of Uniform, which the check below holds it to.
constexpr std::array<UniformSpec, kUniformCount> kUniforms{{
    {kModelView, "uModelView", Kind::Mat4},
    {kModelViewProjection, "uModelViewProjection", Kind::Mat4},
    {kNormals, "uNormals", Kind::Mat3},
    {kViewport, "uViewport", Kind::Vec4},
    {kModelAmbient, "uModelAmbient", Kind::Vec4},
    {kLightAmbient, "uLightAmbient", Kind::Vec4},
    {kLightDiffuse, "uLightDiffuse", Kind::Vec4},
    {kLightSpecular, "uLightSpecular", Kind::Vec4},
    {kLightPosition, "uLightPosition", Kind::Vec4},
    {kSpotDirection, "uSpotDirection", Kind::Vec3},
    {kSpotCosCutoff, "uSpotCosCutoff", Kind::Float},
    {kSpotExponent, "uSpotExponent", Kind::Float},
    {kAttenuation, "uAttenuation", Kind::Vec3},
    {kFrontAmbient, "uFrontAmbient", Kind::Vec4},
    {kFrontDiffuse, "uFrontDiffuse", Kind::Vec4},
    {kFrontSpecular, "uFrontSpecular", Kind::Vec4},
    {kFrontEmission, "uFrontEmission", Kind::Vec4},
    {kFrontTracks, "uFrontTracks", Kind::Vec4},
    {kFrontShininess, "uFrontShininess", Kind::Float},
    {kBackAmbient, "uBackAmbient", Kind::Vec4},
    {kBackDiffuse, "uBackDiffuse", Kind::Vec4},
    {kBackSpecular, "uBackSpecular", Kind::Vec4},
    {kBackEmission, "uBackEmission", Kind::Vec4},
    {kBackTracks, "uBackTracks", Kind::Vec4},
    {kBackShininess, "uBackShininess", Kind::Float},
    {kFogParameters, "uFogParameters", Kind::Vec4},
    {kFogColour, "uFogColour", Kind::Vec4},
    {kAlphaFunction, "uAlphaFunction", Kind::Int},
    {kAlphaReference, "uAlphaReference", Kind::Float},
}};

constexpr bool inOrder() {
    for (std::size_t i = 0; i < kUniforms.size(); ++i) {
        if (kUniforms[i].uniform != i) {
            return false;
        }
    }
    return true;
}
static_assert(inOrder(), "kUniforms lists the uniforms in the order of Uniform");

constexpr std::array<std::pair<Attribute, const char*>, 9> kAttributeNames{{
    {kPosition, "aPosition"},
    {kNormal, "aNormal"},
    {kColour, "aColour"},
    {kTexCoord, "aTexCoord"},
    {kOther, "aOther"},
    {kCorner, "aCorner"},
    {kRow0, "aRow0"},
    {kRow1, "aRow1"},
    {kRow2, "aRow2"},
}};

template <std::size_t N>
void put(UniformValue& to, const std::array<float, N>& from) {
    std::copy(from.begin(), from.end(), to.begin());
}

void put(UniformValue& to, float value) {
    to[0] = value;
}

void putMaterial(UniformValues& out, Uniform first, const backend::MaterialUniforms& m) {
    put(out[first], m.ambient);
    put(out[first + 1], m.diffuse);
    put(out[first + 2], m.specular);
    put(out[first + 3], m.emission);
    put(out[first + 4], m.tracks);
    put(out[first + 5], m.shininess);
}

// Whether a shader compiled or a program linked (`status`); if not, prints the driver's log.
template <typename GetStatus, typename GetLog>
bool succeeded(GLuint object, GLenum status, GetStatus getStatus, GetLog getLog, const char* what) {
    GLint ok = 0;
    getStatus(object, status, &ok);
    if (ok != 0) {
        return true;
    }
    char log[1024] = {};
    getLog(object, sizeof log, nullptr, log);
    std::fprintf(stderr, "fixedgl: %s: %s\n", what, log);
    return false;
}

GLuint compile(GLenum type, const std::string& source) {
    const GLuint shader = emscripten_glCreateShader(type);
    const char* text = source.c_str();
    emscripten_glShaderSource(shader, 1, &text, nullptr);
    emscripten_glCompileShader(shader);
    if (!succeeded(shader, GL_COMPILE_STATUS, emscripten_glGetShaderiv,
                   emscripten_glGetShaderInfoLog, "shader does not compile")) {
        emscripten_glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint link(unsigned features) {
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexShader(features));
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentShader(features));
    if (vertex == 0 || fragment == 0) {
        emscripten_glDeleteShader(vertex);  // deleting 0 does nothing
        emscripten_glDeleteShader(fragment);
        return 0;
    }
    const GLuint p = emscripten_glCreateProgram();
    emscripten_glAttachShader(p, vertex);
    emscripten_glAttachShader(p, fragment);
    for (const auto& [index, name] : kAttributeNames) {
        emscripten_glBindAttribLocation(p, index, name);
    }
    emscripten_glLinkProgram(p);
    emscripten_glDeleteShader(vertex);
    emscripten_glDeleteShader(fragment);
    if (!succeeded(p, GL_LINK_STATUS, emscripten_glGetProgramiv, emscripten_glGetProgramInfoLog,
                   "shaders do not link")) {
        emscripten_glDeleteProgram(p);
        return 0;
    }
    return p;
}

void send(Kind kind, GLint at, const UniformValue& v) {
    switch (kind) {
        case Kind::Float:
            emscripten_glUniform1f(at, v[0]);
            break;
        case Kind::Int:
            emscripten_glUniform1i(at, static_cast<GLint>(v[0]));
            break;
        case Kind::Vec3:
            emscripten_glUniform3fv(at, 1, v.data());
            break;
        case Kind::Vec4:
            emscripten_glUniform4fv(at, 1, v.data());
            break;
        case Kind::Mat3:
            emscripten_glUniformMatrix3fv(at, 1, GL_FALSE, v.data());
            break;
        case Kind::Mat4:
            emscripten_glUniformMatrix4fv(at, 1, GL_FALSE, v.data());
            break;
    }
}

}  // namespace

void uniformValues(const backend::DrawState& s, const Matrix& modelView, UniformValues& out) {
    put(out[kModelView], modelView);
    put(out[kModelViewProjection], multiply(s.projection, modelView));
    put(out[kNormals], normalMatrix(modelView));
    const auto& v = s.fixed.viewport;
    put(out[kViewport], std::array<float, 4>{static_cast<float>(v[0]), static_cast<float>(v[1]),
                                             static_cast<float>(v[2]), static_cast<float>(v[3])});
    const backend::LightingUniforms& l = s.light;
    put(out[kModelAmbient], l.modelAmbient);
    put(out[kLightAmbient], l.lightAmbient);
    put(out[kLightDiffuse], l.lightDiffuse);
    put(out[kLightSpecular], l.lightSpecular);
    put(out[kLightPosition], l.lightPosition);
    put(out[kSpotDirection], l.spotDirection);
    put(out[kSpotCosCutoff], l.spotCosCutoff);
    put(out[kSpotExponent], l.spotExponent);
    put(out[kAttenuation], l.attenuation);
    putMaterial(out, kFrontAmbient, l.front);
    putMaterial(out, kBackAmbient, l.back);
    const backend::FragmentUniforms& f = s.fragment;
    put(out[kFogParameters], f.fogParameters);
    put(out[kFogColour], f.fogColour);
    put(out[kAlphaFunction], static_cast<float>(f.alphaFunction));
    put(out[kAlphaReference], f.alphaReference);
}

Program* programFor(std::map<unsigned, Program>& programs, unsigned features) {
    auto found = programs.find(features);
    if (found == programs.end()) {
        Program program;
        program.id = link(features);
        if (program.id != 0) {
            for (const UniformSpec& u : kUniforms) {
                program.at[u.uniform] = emscripten_glGetUniformLocation(program.id, u.name);
            }
        }
        found = programs.emplace(features, program).first;
    }
    return found->second.id != 0 ? &found->second : nullptr;
}

void useProgram(Program& program, unsigned& current, const UniformValues& values) {
    if (current != program.id) {
        emscripten_glUseProgram(program.id);
        current = program.id;
    }
    for (const UniformSpec& u : kUniforms) {
        const GLint at = program.at[u.uniform];
        if (at < 0 || (program.known[u.uniform] && program.sent[u.uniform] == values[u.uniform])) {
            continue;
        }
        send(u.kind, at, values[u.uniform]);
        program.sent[u.uniform] = values[u.uniform];
        program.known[u.uniform] = true;
    }
}

}  // namespace fixedgl::webgl
