// Every fragment of a flat-colour shape is the tint itself.
#version 150

uniform vec4 colorTint;

out vec4 fragColor;

void main() {
    fragColor = colorTint;
}
