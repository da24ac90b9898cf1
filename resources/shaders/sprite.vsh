// Textured quads (sprites and text glyphs): placed like any shape, texture coordinates passed on.

in vec3 position;
in vec2 texCoord;

uniform mat4 projectionMatrix;
uniform mat4 viewingMatrix;
uniform mat4 modelMatrix;

out vec2 fragTexCoord;

void main() {
    fragTexCoord = texCoord;
    gl_Position = projectionMatrix * viewingMatrix * modelMatrix * vec4(position, 1.0);
}
