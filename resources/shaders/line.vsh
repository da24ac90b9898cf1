// Line vertices arrive in world coordinates, so only the camera moves them.

in vec3 position;

uniform mat4 projectionMatrix;
uniform mat4 viewingMatrix;

void main() {
    gl_Position = projectionMatrix * viewingMatrix * vec4(position, 1.0);
}
