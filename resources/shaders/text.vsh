// Text glyphs, all of a line in one draw: the model matrix of the line (glyph size and the line's
// height) with each vertex's glyph column put in its x translation, so every glyph is placed by
// the same arithmetic as a quad drawn on its own with that translation.

in vec3 position;
in vec2 texCoord;
in float glyphX;

uniform mat4 projectionMatrix;
uniform mat4 viewingMatrix;
uniform mat4 modelMatrix;

out vec2 fragTexCoord;

void main() {
    mat4 model = modelMatrix;
    model[3][0] = glyphX;
    fragTexCoord = texCoord;
    gl_Position = projectionMatrix * viewingMatrix * model * vec4(position, 1.0);
}
