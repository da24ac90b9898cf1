// Serves a folder (build-web/) over HTTP on 127.0.0.1 only, with the types a browser wants for
// the page's files: `node web/serve.mjs FOLDER [PORT]` prints the address and serves until ended.
// The browser tests import serve() to start a server of their own on a free port.
import { createReadStream, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.zip': 'application/zip',
};

// Starts serving FOLDER on 127.0.0.1:PORT (0: any free port); resolves to the server once it
// listens. Only files inside the folder are served, nothing is listed.
export function serve(folder, port) {
  const root = resolve(folder);
  const server = createServer((request, response) => {
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    if (path.endsWith('/')) path += 'index.html';
    const file = normalize(join(root, path));
    let stats = null;
    if (file.startsWith(root + sep)) {
      try {
        stats = statSync(file);
      } catch {
        stats = null;
      }
    }
    if (stats === null || !stats.isFile() || (request.method !== 'GET' && request.method !== 'HEAD')) {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
      return;
    }
    response.writeHead(200, {
      'Content-Type': types[extname(file)] || 'application/octet-stream',
      'Content-Length': stats.size,
      'Cache-Control': 'no-cache',
    });
    if (request.method === 'HEAD') response.end();
    else createReadStream(file).pipe(response);
  });
  return new Promise((done, failed) => {
    server.once('error', failed);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [folder, port = '8064'] = process.argv.slice(2);
  if (!folder || !/^\d+$/.test(port)) {
    console.error('usage: node web/serve.mjs FOLDER [PORT]');
    process.exit(2);
  }
  serve(folder, Number(port)).then(
    (server) => console.log(`Taldrift is served at http://127.0.0.1:${server.address().port}/`),
    (error) => {
      console.error(`Cannot serve on 127.0.0.1:${port}: ${error.message}`);
      process.exit(1);
    });
}
