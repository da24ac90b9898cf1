// The texture sample scaled by the tint, so a white tint shows the image unchanged.

in vec2 fragTexCoord;

uniform sampler2D spriteTex;
uniform vec4 colorTint;

out vec4 fragColor;

void main() {
    fragColor = texture(spriteTex, fragTexCoord) * colorTint;
}
