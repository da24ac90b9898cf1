// Every fragment of a flat-colour shape is the tint itself.

uniform vec4 colorTint;

out vec4 fragColor;

void main() {
    fragColor = colorTint;
}
