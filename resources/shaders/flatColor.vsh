// Flat-colour shapes are defined around their own centre and placed by the model matrix.

in vec3 position;

uniform mat4 projectionMatrix;
uniform mat4 viewingMatrix;
uniform mat4 modelMatrix;

void main() {
    gl_Position = projectionMatrix * viewingMatrix * modelMatrix * vec4(position, 1.0);
}
