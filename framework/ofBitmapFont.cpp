#include "framework/ofBitmapFont.h"

#include "framework/ofConstants.h"

namespace {

// Glyph rows are one byte each; with the default unpack alignment of 4,
// glBitmap would read past the record.
void pushGlyphPixelStore() {
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

void drawGlyph(int character) {
    const unsigned char* glyph = bmpChar_8x13_Map[character];
    const GLsizei width = glyph[0];
    glBitmap(width, 14, 0, 3, static_cast<GLfloat>(width), 0, glyph + 1);
}

}  // namespace

void ofDrawBitmapString(std::string text, float x, float y) {
    pushGlyphPixelStore();
    float lineOffset = 0;
    glRasterPos2f(x, y);
    for (char byte : text) {
        if (byte == '\n') {
            lineOffset += 13.6f;
            glRasterPos2f(x, y + static_cast<float>(static_cast<int>(lineOffset)));
        } else if (static_cast<signed char>(byte) > 31) {
            drawGlyph(static_cast<unsigned char>(byte));
        }
    }
    glPopClientAttrib();
}

void ofDrawBitmapCharacter(int character) {
    if (character < 0 || character > 255) return;
    pushGlyphPixelStore();
    drawGlyph(character);
    glPopClientAttrib();
}
