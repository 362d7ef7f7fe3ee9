// sdl_web_gl.cpp: the browser's frame on WebGL, compiled only for Emscripten:
// the 8-bit frame goes up as a one-byte texture and the palette as a 256x1
// one, and a fragment shader looks each shown pixel up while it scales. wasm
// has no byte permutes to expand indices to 32-bit pixels quickly; the GPU
// does it for nothing.
#include "platform/sdl/sdl_web_gl.h"

#include <GLES2/gl2.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>

namespace sdlplat {

namespace {

struct WebGlState {
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
  GLuint program = 0, indexTexture = 0, paletteTexture = 0, quad = 0;
  GLint corner = -1;
  int frameW = 0, frameH = 0;           // the index texture's size
  std::array<uint32_t, 256> palette{};  // as last uploaded
  bool paletteUploaded = false;
};
WebGlState Gl;

// The corner runs 0..1 over the frame; the index texture's rows go down the
// screen, so the y flips. Nearest sampling at the shown pixel's centre picks
// frame pixel floor((d + 0.5) * frame / shown), the same as the CPU scaler.
constexpr const char* kVertexShader = R"(
attribute vec2 corner;
varying vec2 at;
void main() {
  at = corner;
  gl_Position = vec4(corner.x * 2.0 - 1.0, 1.0 - corner.y * 2.0, 0.0, 1.0);
})";

// The index comes back as i / 255; the palette's texel i has its centre at
// (i + 0.5) / 256.
constexpr const char* kFragmentShader = R"(
precision mediump float;
uniform sampler2D indices;
uniform sampler2D palette;
varying vec2 at;
void main() {
  float i = texture2D(indices, at).r * 255.0;
  gl_FragColor = texture2D(palette, vec2((floor(i + 0.5) + 0.5) / 256.0, 0.5));
})";

GLuint Compile(GLenum kind, const char* source) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
    std::fprintf(stderr, "tarn: frame shader: %s\n", log);
  }
  return shader;
}

GLuint NearestTexture() {
  GLuint t;
  glGenTextures(1, &t);
  glBindTexture(GL_TEXTURE_2D, t);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return t;
}

bool MakeProgram() {
  GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader), fs = Compile(GL_FRAGMENT_SHADER, kFragmentShader);
  Gl.program = glCreateProgram();
  glAttachShader(Gl.program, vs);
  glAttachShader(Gl.program, fs);
  glLinkProgram(Gl.program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(Gl.program, GL_LINK_STATUS, &ok);
  if (!ok) return false;
  Gl.corner = glGetAttribLocation(Gl.program, "corner");
  glUseProgram(Gl.program);
  glUniform1i(glGetUniformLocation(Gl.program, "indices"), 0);
  glUniform1i(glGetUniformLocation(Gl.program, "palette"), 1);
  static const float kCorners[8] = {0, 0, 1, 0, 0, 1, 1, 1};
  glGenBuffers(1, &Gl.quad);
  glBindBuffer(GL_ARRAY_BUFFER, Gl.quad);
  glBufferData(GL_ARRAY_BUFFER, sizeof kCorners, kCorners, GL_STATIC_DRAW);
  Gl.indexTexture = NearestTexture();
  Gl.paletteTexture = NearestTexture();
  return true;
}

}  // namespace

bool WebGlStart() {
  if (Gl.context) return true;
  EmscriptenWebGLContextAttributes attrs;
  emscripten_webgl_init_context_attributes(&attrs);
  attrs.alpha = attrs.depth = attrs.stencil = attrs.antialias = EM_FALSE;
  // The page test reads the canvas back while the frames are held.
  attrs.preserveDrawingBuffer = EM_TRUE;
  attrs.majorVersion = 1;
  Gl.context = emscripten_webgl_create_context("#canvas", &attrs);
  if (Gl.context <= 0 || emscripten_webgl_make_context_current(Gl.context) != EMSCRIPTEN_RESULT_SUCCESS) {
    Gl.context = 0;
    return false;
  }
  if (!MakeProgram()) {
    std::fprintf(stderr, "tarn: the frame's WebGL program does not link\n");
    WebGlStop();
    return false;
  }
  return true;
}

void WebGlStop() {
  if (!Gl.context) return;
  emscripten_webgl_destroy_context(Gl.context);
  Gl = {};
}

bool WebGlRunning() { return Gl.context != 0; }

void WebGlDraw(const FrameRect& r, const uint8_t* frame, int frameW, int frameH, const uint32_t* palette) {
  int outW = 0, outH = 0;
  emscripten_get_canvas_element_size("#canvas", &outW, &outH);
  glViewport(0, 0, outW, outH);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_BLEND);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  if (r.w <= 0 || r.h <= 0 || !frame) return;
  glUseProgram(Gl.program);
  glActiveTexture(GL_TEXTURE1);
  glBindTexture(GL_TEXTURE_2D, Gl.paletteTexture);
  if (!Gl.paletteUploaded || std::memcmp(Gl.palette.data(), palette, sizeof Gl.palette) != 0) {
    std::memcpy(Gl.palette.data(), palette, sizeof Gl.palette);
    uint8_t rgba[256 * 4];
    for (int i = 0; i < 256; ++i) {
      rgba[4 * i] = uint8_t(palette[i] >> 16);
      rgba[4 * i + 1] = uint8_t(palette[i] >> 8);
      rgba[4 * i + 2] = uint8_t(palette[i]);
      rgba[4 * i + 3] = 255;
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 256, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    Gl.paletteUploaded = true;
  }
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, Gl.indexTexture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (frameW != Gl.frameW || frameH != Gl.frameH) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, frameW, frameH, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, frame);
    Gl.frameW = frameW;
    Gl.frameH = frameH;
  } else {
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, frameW, frameH, GL_LUMINANCE, GL_UNSIGNED_BYTE, frame);
  }
  // GL counts viewport rows from the bottom.
  glViewport(r.x, outH - r.y - r.h, r.w, r.h);
  glBindBuffer(GL_ARRAY_BUFFER, Gl.quad);
  glEnableVertexAttribArray(GLuint(Gl.corner));
  glVertexAttribPointer(GLuint(Gl.corner), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glDisableVertexAttribArray(GLuint(Gl.corner));
  glViewport(0, 0, outW, outH);
}

}  // namespace sdlplat
