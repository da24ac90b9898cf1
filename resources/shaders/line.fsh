// Lines are one flat colour.
#version 150

uniform vec4 colorTint;

out vec4 fragColor;

void main() {
    fragColor = colorTint;
}
