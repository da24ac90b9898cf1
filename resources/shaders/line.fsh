// Lines are one flat colour.

uniform vec4 colorTint;

out vec4 fragColor;

void main() {
    fragColor = colorTint;
}
